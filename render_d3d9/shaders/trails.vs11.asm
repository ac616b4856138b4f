; Trails. Each ribbon vertex carries its birth time in the normal's x;
; segments age over the trail's lifetime, their colour moving from the
; first to the second colour while they fade out.
;   c0-c3  world to clip, transposed
;   c8     (opacity, time, lifetime, 1 / lifetime)
;   c9     (first colour, 1)
;   c10    (second colour, 1)
vs_1_1
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
def c11, 1, 0, 0, 0
m4x4 oPos, v0, c0
add r0.x, c8.y, -v1.x           ; age
mul r0.x, r0.x, c8.w            ; share of the lifetime
max r0.x, r0.x, c11.y
min r0.x, r0.x, c11.x
mov r1, c9
add r2, c10, -r1
mad r3, r2, r0.x, r1
add r0.y, c11.x, -r0.x
mul oD0.w, r0.y, c8.x
mov oD0.xyz, r3
mov oT0.xy, v2
