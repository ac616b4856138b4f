#include "dxt/codebook.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <stdexcept>

namespace {

std::atomic<i32> next_id{1};

struct entry_c {
    i32 count = 0;
    i64 merge_cost = 0;
    std::vector<i32> vector;
};

struct bin_c {
    bool leaf = true;
    // leaf
    std::vector<entry_c> entries;
    std::vector<i32> lower, upper;
    // branch
    i32 dim = 0, split = 0;
    std::unique_ptr<bin_c> low, high;
};

class bin_tree_c {
public:
    explicit bin_tree_c(i32 dimension) : dimension_(dimension) {}

    void Insert(entry_c e)
    {
        if (!root_) {
            root_ = std::make_unique<bin_c>();
            root_->lower = root_->upper = e.vector;
            root_->entries.push_back(std::move(e));
            ++count_;
            return;
        }
        Insert(*root_, std::move(e));
    }

    void Reduce(i32 max_entries)
    {
        while (count_ > max_entries) {
            Collapse(root_);
            struct candidate_c {
                i64 cost;
                bin_c* leaf;
                size_t i, j;
            };
            std::vector<candidate_c> candidates;
            ForEachLeaf(*root_, [&](bin_c& leaf) {
                if (leaf.entries.size() < 2)
                    return;
                candidate_c best{-1, &leaf, 0, 0};
                for (size_t i = 0; i < leaf.entries.size(); ++i)
                    for (size_t j = i + 1; j < leaf.entries.size(); ++j) {
                        const i64 cost = MergeCost(leaf.entries[i], leaf.entries[j]);
                        if (best.cost < 0 || cost < best.cost)
                            best = {cost, &leaf, i, j};
                    }
                candidates.push_back(best);
            });
            if (candidates.empty()) {
                MergeAcrossLeaves();
                continue;
            }
            std::stable_sort(candidates.begin(), candidates.end(),
                             [](const candidate_c& a, const candidate_c& b) { return a.cost < b.cost; });
            // At least one merge a round, or a single candidate leaf would never shrink.
            const size_t merges =
                std::max<size_t>(1, std::min<size_t>(candidates.size() / 2, static_cast<size_t>(count_ - max_entries)));
            for (size_t k = 0; k < merges; ++k) {
                const candidate_c& c = candidates[k];
                Merge(c.leaf->entries[c.i], c.leaf->entries[c.j], c.cost);
                c.leaf->entries.erase(c.leaf->entries.begin() + static_cast<std::ptrdiff_t>(c.j));
                --count_;
            }
        }
    }

    // Every leaf holds one entry: merge the cheapest pair of the whole tree.
    void MergeAcrossLeaves()
    {
        std::vector<entry_c> all;
        ForEachLeaf(*root_, [&](bin_c& leaf) {
            for (entry_c& e : leaf.entries)
                all.push_back(std::move(e));
        });
        size_t bi = 0, bj = 1;
        i64 best = -1;
        for (size_t i = 0; i < all.size(); ++i)
            for (size_t j = i + 1; j < all.size(); ++j) {
                const i64 cost = MergeCost(all[i], all[j]);
                if (best < 0 || cost < best) {
                    best = cost;
                    bi = i;
                    bj = j;
                }
            }
        Merge(all[bi], all[bj], best);
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(bj));
        root_.reset();
        count_ = 0;
        for (entry_c& e : all)
            Insert(std::move(e));
    }

    void Merge(entry_c& a, const entry_c& b, i64 cost)
    {
        const i64 total = static_cast<i64>(a.count) + b.count;
        for (i32 d = 0; d < dimension_; ++d)
            a.vector[d] = static_cast<i32>(
                (static_cast<i64>(a.vector[d]) * a.count + static_cast<i64>(b.vector[d]) * b.count) / total);
        a.count = static_cast<i32>(total);
        a.merge_cost = cost;
    }

    void Emit(codebook_c& out)
    {
        if (!root_)
            return;
        ForEachLeaf(*root_, [&](bin_c& leaf) {
            for (const entry_c& e : leaf.entries) {
                out.data.insert(out.data.end(), e.vector.begin(), e.vector.end());
                out.counts.push_back(e.count);
                ++out.entries;
            }
        });
        root_.reset();
    }

private:
    i64 MergeCost(const entry_c& a, const entry_c& b) const
    {
        i64 d2 = 0;
        for (i32 d = 0; d < dimension_; ++d) {
            const i64 diff = static_cast<i64>(a.vector[d]) - b.vector[d];
            d2 += diff * diff;
        }
        return static_cast<i64>(a.count) * b.count * d2 / (static_cast<i64>(a.count) + b.count);
    }

    void Insert(bin_c& start, entry_c e)
    {
        bin_c* node = &start;
        while (true) {
            while (!node->leaf)
                node = e.vector[node->dim] > node->split ? node->high.get() : node->low.get();
            for (entry_c& x : node->entries)
                if (x.vector == e.vector) {
                    x.count += e.count;
                    return;
                }
            if (node->entries.size() < 8) {
                if (node->entries.empty())
                    node->lower = node->upper = e.vector;
                for (i32 d = 0; d < dimension_; ++d) {
                    node->lower[d] = std::min(node->lower[d], e.vector[d]);
                    node->upper[d] = std::max(node->upper[d], e.vector[d]);
                }
                node->entries.push_back(std::move(e));
                ++count_;
                return;
            }
            Split(*node);
        }
    }

    void Split(bin_c& node)
    {
        i32 dim = 0;
        for (i32 d = 1; d < dimension_; ++d)
            if (node.upper[d] - node.lower[d] > node.upper[dim] - node.lower[dim])
                dim = d;
        node.dim = dim;
        node.split = (node.upper[dim] + node.lower[dim]) / 2;
        node.leaf = false;
        node.low = std::make_unique<bin_c>();
        node.high = std::make_unique<bin_c>();
        std::vector<entry_c> entries = std::move(node.entries);
        node.entries.clear();
        count_ -= static_cast<i64>(entries.size());
        for (entry_c& e : entries) {
            bin_c& side = e.vector[dim] > node.split ? *node.high : *node.low;
            Insert(side, std::move(e));
        }
    }

    void Collapse(std::unique_ptr<bin_c>& node)
    {
        if (node->leaf)
            return;
        for (const bool small_low : {true, false}) {
            std::unique_ptr<bin_c>& small = small_low ? node->low : node->high;
            std::unique_ptr<bin_c>& other = small_low ? node->high : node->low;
            if (small->leaf && small->entries.size() < 4) {
                std::unique_ptr<bin_c> keep = std::move(other);
                std::vector<entry_c> moved = std::move(small->entries);
                count_ -= static_cast<i64>(moved.size());
                node = std::move(keep);
                // Once per pass: the re-insertion may split leaves again.
                for (entry_c& e : moved)
                    Insert(*node, std::move(e));
                return;
            }
        }
        Collapse(node->low);
        Collapse(node->high);
    }

    template <typename F>
    void ForEachLeaf(bin_c& node, F&& f)
    {
        if (node.leaf) {
            f(node);
            return;
        }
        ForEachLeaf(*node.low, f);
        ForEachLeaf(*node.high, f);
    }

    i32 dimension_;
    i64 count_ = 0;
    std::unique_ptr<bin_c> root_;
};

// ---- nearest-entry search ----

struct search_node_c {
    bool leaf = true;
    std::vector<i32> members; // codebook indices (leaf)
    i32 dim = 0, split = 0;
    std::unique_ptr<search_node_c> low, high;
};

class search_tree_c {
public:
    explicit search_tree_c(const codebook_c& cb) : dim_(cb.Dimension()), vectors_(cb.entries)
    {
        for (i32 i = 0; i < cb.entries; ++i) {
            vectors_[i].resize(dim_);
            for (i32 d = 0; d < dim_; ++d)
                vectors_[i][d] = std::clamp(cb.data[static_cast<size_t>(i) * dim_ + d], 0, 255);
        }
        std::vector<i32> all(cb.entries);
        for (i32 i = 0; i < cb.entries; ++i)
            all[i] = i;
        root_ = Build(std::move(all));
    }

    i32 Nearest(const i32* query) const
    {
        best_ = INT_MAX;
        best_index_ = 0;
        std::vector<i32> lo(dim_, 0), hi(dim_, 255);
        done_ = false;
        if (root_)
            Search(*root_, query, lo, hi);
        return best_index_;
    }

private:
    std::unique_ptr<search_node_c> Build(std::vector<i32> set)
    {
        auto node = std::make_unique<search_node_c>();
        if (set.size() <= 8) {
            node->members = std::move(set);
            return node;
        }
        i32 dim = 0, widest = -1;
        for (i32 d = 0; d < dim_; ++d) {
            i32 mn = 255, mx = 0;
            for (i32 m : set) {
                mn = std::min(mn, vectors_[m][d]);
                mx = std::max(mx, vectors_[m][d]);
            }
            if (mx - mn > widest) {
                widest = mx - mn;
                dim = d;
            }
        }
        std::stable_sort(set.begin(), set.end(), [&](i32 a, i32 b) { return vectors_[a][dim] < vectors_[b][dim]; });
        const size_t n = set.size();
        size_t cut = 0;
        for (size_t i = std::min(n - 1, n / 2 + 1); i >= 1; --i)
            if (vectors_[set[i]][dim] != vectors_[set[i - 1]][dim]) {
                cut = i;
                break;
            }
        if (cut == 0) {
            node->members = std::move(set);
            return node;
        }
        node->leaf = false;
        node->dim = dim;
        node->split = vectors_[set[cut - 1]][dim];
        node->low = Build(std::vector<i32>(set.begin(), set.begin() + static_cast<std::ptrdiff_t>(cut)));
        node->high = Build(std::vector<i32>(set.begin() + static_cast<std::ptrdiff_t>(cut), set.end()));
        return node;
    }

    i64 BoxDistance(const i32* q, const std::vector<i32>& lo, const std::vector<i32>& hi) const
    {
        i64 s = 0;
        for (i32 d = 0; d < dim_; ++d) {
            const i64 g = q[d] < lo[d] ? lo[d] - q[d] : (q[d] > hi[d] ? q[d] - hi[d] : 0);
            s += g * g;
        }
        return s;
    }

    bool BallInside(const i32* q, const std::vector<i32>& lo, const std::vector<i32>& hi) const
    {
        for (i32 d = 0; d < dim_; ++d) {
            const i64 a = static_cast<i64>(q[d]) - lo[d] + 1, b = static_cast<i64>(hi[d]) + 1 - q[d];
            if (a <= 0 || b <= 0 || a * a < best_ || b * b < best_)
                return false;
        }
        return true;
    }

    void Search(const search_node_c& node, const i32* q, std::vector<i32>& lo, std::vector<i32>& hi) const
    {
        if (node.leaf) {
            for (i32 m : node.members) {
                i64 dist = 0;
                bool abandoned = false;
                for (i32 d = 0; d < dim_; ++d) {
                    const i64 diff = static_cast<i64>(q[d]) - vectors_[m][d];
                    dist += diff * diff;
                    if (dist >= best_) {
                        abandoned = true;
                        break;
                    }
                }
                if (!abandoned) {
                    best_ = dist;
                    best_index_ = m;
                }
            }
            if (BallInside(q, lo, hi))
                done_ = true;
            return;
        }
        const bool upper_first = q[node.dim] > node.split;
        for (const bool upper : {upper_first, !upper_first}) {
            if (done_)
                return;
            const search_node_c& child = upper ? *node.high : *node.low;
            const i32 saved_lo = lo[node.dim], saved_hi = hi[node.dim];
            if (upper)
                lo[node.dim] = std::max(lo[node.dim], node.split + 1);
            else
                hi[node.dim] = std::min(hi[node.dim], node.split);
            if (BoxDistance(q, lo, hi) < best_)
                Search(child, q, lo, hi);
            lo[node.dim] = saved_lo;
            hi[node.dim] = saved_hi;
        }
        if (!done_ && BallInside(q, lo, hi))
            done_ = true;
    }

    i32 dim_;
    std::vector<std::vector<i32>> vectors_;
    std::unique_ptr<search_node_c> root_;
    mutable i64 best_ = INT_MAX;
    mutable i32 best_index_ = 0;
    mutable bool done_ = false;
};

void CheckTiles(i32 height, i32 width, i32 channels, i32 tile_w, i32 tile_h)
{
    if (height < 0 || width < 0 || channels < 1 || tile_w < 1 || tile_h < 1 || width % tile_w || height % tile_h)
        throw std::invalid_argument("Image sides must be whole numbers of tiles");
}

// The bytes of tile (tx, ty) as a vector, rows of the tile one after another.
void TileVector(const u8* image, i32 width, i32 channels, i32 tile_w, i32 tile_h, i32 tx, i32 ty, i32* out)
{
    i32 k = 0;
    for (i32 r = 0; r < tile_h; ++r) {
        const u8* row =
            image + ((static_cast<size_t>(ty) * tile_h + r) * width + static_cast<size_t>(tx) * tile_w) * channels;
        for (i32 b = 0; b < tile_w * channels; ++b)
            out[k++] = row[b];
    }
}

} // namespace

void BuildCodebook(const u8* image, codebook_c& out, i32 height, i32 width, i32 channels, i32 tile_w, i32 tile_h,
                   i32 max_entries)
{
    CheckTiles(height, width, channels, tile_w, tile_h);
    if (max_entries < 1)
        throw std::invalid_argument("A codebook needs room for one entry");
    out.id = next_id++;
    out.tile_width = tile_w;
    out.tile_height = tile_h;
    out.channels = channels;
    out.entries = 0;
    out.data.clear();
    out.counts.clear();
    const i32 dim = out.Dimension();
    bin_tree_c tree(dim);
    for (i32 ty = 0; ty < height / tile_h; ++ty)
        for (i32 tx = 0; tx < width / tile_w; ++tx) {
            entry_c e;
            e.count = 1;
            e.vector.resize(dim);
            TileVector(image, width, channels, tile_w, tile_h, tx, ty, e.vector.data());
            tree.Insert(std::move(e));
        }
    tree.Reduce(max_entries);
    tree.Emit(out);
}

void MapToCodebook(const codebook_c& codebook, const u8* image, i32 height, i32 width, index_list_c& out)
{
    CheckTiles(height, width, codebook.channels, codebook.tile_width, codebook.tile_height);
    if (codebook.entries < 1)
        throw std::invalid_argument("Empty codebook");
    const search_tree_c tree(codebook);
    out.id = codebook.id;
    out.width = width / codebook.tile_width;
    out.height = height / codebook.tile_height;
    out.indices.clear();
    std::vector<i32> v(codebook.Dimension());
    for (i32 ty = 0; ty < out.height; ++ty)
        for (i32 tx = 0; tx < out.width; ++tx) {
            TileVector(image, width, codebook.channels, codebook.tile_width, codebook.tile_height, tx, ty, v.data());
            out.indices.push_back(tree.Nearest(v.data()));
        }
}

void MapToCodebook(const codebook_c& codebook, const codebook_c& vectors, index_list_c& out)
{
    if (codebook.entries < 1)
        throw std::invalid_argument("Empty codebook");
    if (vectors.Dimension() != codebook.Dimension())
        throw std::invalid_argument("Vectors of another dimension");
    const search_tree_c tree(codebook);
    out.id = codebook.id;
    out.width = vectors.entries;
    out.height = 1;
    out.indices.clear();
    const i32 dim = codebook.Dimension();
    for (i32 i = 0; i < vectors.entries; ++i)
        out.indices.push_back(tree.Nearest(&vectors.data[static_cast<size_t>(i) * dim]));
}

i32 ExpandIndices(const codebook_c& codebook, const index_list_c& list, u8* out)
{
    if (list.id != codebook.id)
        return -1;
    for (i32 index : list.indices)
        if (index < 0 || index >= codebook.entries)
            return -1;
    const i32 tw = codebook.tile_width, th = codebook.tile_height, ch = codebook.channels, dim = codebook.Dimension();
    const size_t row_bytes = static_cast<size_t>(list.width) * tw * ch;
    for (i32 ty = 0; ty < list.height; ++ty)
        for (i32 tx = 0; tx < list.width; ++tx) {
            const i32* v =
                &codebook.data[static_cast<size_t>(list.indices[static_cast<size_t>(ty) * list.width + tx]) * dim];
            for (i32 r = 0; r < th; ++r)
                for (i32 b = 0; b < tw * ch; ++b)
                    out[(static_cast<size_t>(ty) * th + r) * row_bytes + static_cast<size_t>(tx) * tw * ch + b] =
                        static_cast<u8>(std::clamp(v[r * tw * ch + b], 0, 255));
        }
    return 0;
}
