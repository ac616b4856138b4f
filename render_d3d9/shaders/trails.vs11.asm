; Trails. Each ribbon vertex carries (birth time, head mark, age mark) in its
; normal. The live head was laid where the head edge stood when it was
; laid; between boundaries the edge moves on, so head vertices are drawn at
; the current edge instead: mark 1 at the left point, mark 2 at the right.
; A segment fades out over the lifetime, and the tail of a full ribbon
; (age mark 0) is transparent so the ribbon ends softly.
;   c0-c3  world to clip, transposed
;   c8     (opacity, time, lifetime, 1 / lifetime)
;   c9     (left point of the head edge, 1), world space
;   c10    (right point of the head edge, 1), world space
vs_1_1
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
def c11, 1, 0, 0.5, 1.5
sge r0.x, v1.y, c11.z           ; head vertex
sge r0.y, v1.y, c11.w           ; right head vertex
add r0.z, r0.x, -r0.y           ; left head vertex
add r0.w, c11.x, -r0.x          ; laid vertex
mul r1, v0, r0.w
mad r1, c9, r0.z, r1
mad r1, c10, r0.y, r1
m4x4 oPos, r1, c0
add r2.x, c8.y, -v1.x           ; age
mul r2.x, r2.x, c8.w            ; share of the lifetime
max r2.x, r2.x, c11.y
min r2.x, r2.x, c11.x
add r2.y, c11.x, -r2.x
mul r2.y, r2.y, v1.z
mul oD0.w, r2.y, c8.x
mov oD0.xyz, c11.x
mov oT0.xy, v2
