#pragma once
// script_loader_c: reads a parameter text file from the current file system,
// one command per logical line, into itself (it is its own command_c) or
// into another command. Rules per physical line:
//   ';' or "//" starts a comment to the end of the line, also inside quotes;
//   a single '/' and NUL bytes are dropped;
//   a '\' followed only by blanks, single '/'s or a comment joins the next
//   line with one space (its leading blanks skipped); any other '\' is kept;
//   trailing blanks are removed; lines without a command name are skipped.
// "#include name" (any case) reads the named file in place of the line; the
// name resolves against the current directory, not the including file.
// Including a file that is already being read, or nesting includes deeper
// than maxIncludeDepth, throws file_error_c with the included name.
#include <memory>

#include "foundation/command.h"
#include "foundation/memory_file.h"

class script_loader_c : public command_c {
public:
    static constexpr int maxIncludeDepth = 32;

    // Loads the file whole; file_error_c propagates.
    explicit script_loader_c(const char* fileName);
    script_loader_c(const script_loader_c&) = delete;
    script_loader_c& operator=(const script_loader_c&) = delete;
    ~script_loader_c();

    // The next command's name, or null at the end of the file. The pointer
    // lives until the next read.
    const char* ReadCommand();
    const char* ReadCommandInto(command_c& target);
    // Share of the outer file read so far, 0 to 1 (0 for an empty file);
    // included files do not count.
    double GetProgress() const;

    const char* GetFileName() const { return file.GetName(); }

private:
    script_loader_c(const char* fileName, const script_loader_c* parent);
    // Copies the next logical line into line.
    void ReadLine();
    // Where a '\' at p leads: the first byte after blanks, single '/'s and a
    // comment.
    const char* LookPastBackslash(const char* p) const;
    const char* SkipComment(const char* p) const;
    void OpenInclude(const char* name);

    input_file_c file;
    const char* cursor;
    const char* end;
    string_c line;
    std::unique_ptr<script_loader_c> include;
    const script_loader_c* parent;
    int depth;
};
