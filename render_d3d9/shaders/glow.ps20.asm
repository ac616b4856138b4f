; Glow blur, one direction of a separable 15-tap filter. The quad's first
; two coordinate sets are its rectangle shifted by minus and plus one texel;
; their middle is the texel itself, and the deltas step along the pass's
; direction.
;   weight  W(0..7) as (W, W, W, 1)
;   delta   k texels along the direction, k = 1..7
;   image   the picture blurred
ps_2_0
.constant weight c0 8
.constant delta c8 7
.sampler image s0
dcl t0
dcl t1
dcl_2d s0
def c15, 0.5, 0, 0, 1
add r0.xy, t0, t1
mul r0.xy, r0, c15.x
texld r1, r0, s0
mul r2, r1, c0
add r3.xy, r0, c8
texld r4, r3, s0
mad r2, r4, c1, r2
add r3.xy, r0, -c8
texld r4, r3, s0
mad r2, r4, c1, r2
add r3.xy, r0, c9
texld r4, r3, s0
mad r2, r4, c2, r2
add r3.xy, r0, -c9
texld r4, r3, s0
mad r2, r4, c2, r2
add r3.xy, r0, c10
texld r4, r3, s0
mad r2, r4, c3, r2
add r3.xy, r0, -c10
texld r4, r3, s0
mad r2, r4, c3, r2
add r3.xy, r0, c11
texld r4, r3, s0
mad r2, r4, c4, r2
add r3.xy, r0, -c11
texld r4, r3, s0
mad r2, r4, c4, r2
add r3.xy, r0, c12
texld r4, r3, s0
mad r2, r4, c5, r2
add r3.xy, r0, -c12
texld r4, r3, s0
mad r2, r4, c5, r2
add r3.xy, r0, c13
texld r4, r3, s0
mad r2, r4, c6, r2
add r3.xy, r0, -c13
texld r4, r3, s0
mad r2, r4, c6, r2
add r3.xy, r0, c14
texld r4, r3, s0
mad r2, r4, c7, r2
add r3.xy, r0, -c14
texld r4, r3, s0
mad r2, r4, c7, r2
mov r2.w, c15.w
mov oC0, r2
