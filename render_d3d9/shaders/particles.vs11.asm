; Particles. A particle's four corners share its birth position (v0), its
; velocity (v1) and its birth time and lifetime (v3); v2 is the corner's
; texture coordinate. The particle falls under gravity, grows from the
; start to the end size on screen and fades from the start colour and
; opacity to the end colour and none.
;   c0-c3  world to clip, transposed
;   c8     (time, 0, 0, 0)
;   c9     (gravity / 2, 1)
;   c10    (start size / kx, -start size / ky, 0, 1)
;   c11    (size change / kx, -size change / ky, 0, 1)
;   c12    (start colour, opacity)
;   c13    (colour change, -opacity)
vs_1_1
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_texcoord1 v3
def c20, 0.5, 0, 0, 0
add r0.x, c8.x, -v3.x           ; age
rcp r0.y, v3.y
mul r0.y, r0.x, r0.y            ; share of the life passed
mul r1.x, r0.x, r0.x            ; age squared
mov r2.xyz, v0
mad r2.xyz, v1, r0.x, r2        ; moved by the velocity
mad r2.xyz, c9, r1.x, r2        ; and by gravity
mov r2.w, c9.w
m4x4 r3, r2, c0
mov r6, c10
mad r4.xy, c11, r0.y, r6        ; size on screen now
add r5.xy, v2, -c20.x           ; corner, -0.5 to 0.5
mul r4.xy, r4, r5
mad oPos.xy, r4, r3.w, r3       ; corner offset, before the divide by w
mov oPos.zw, r3
mov r7, c12
mad oD0, c13, r0.y, r7
mov oT0.xy, v2
