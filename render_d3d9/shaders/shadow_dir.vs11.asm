; Shadow volume, directional light, extruded to infinity: a turned-away
; vertex becomes the point at infinity along the light (w = 0).
;   transform  object to clip, transposed
;   lt_dir     the light's travel direction in object space
vs_1_1
.constant transform c0 4
.constant lt_dir c4
dcl_position v0
dcl_normal v1
def c5, 0, 0, 0, 1
dp3 r0.x, v1, c4
sge r0.x, r0.x, c5.x
mov r1, v0
mov r2.xyz, c4
add r2.xyz, r2, -r1
mad r1.xyz, r2, r0.x, r1        ; the light direction when turned away
add r1.w, c5.w, -r0.x           ; w 0 when turned away
m4x4 oPos, r1, c0
