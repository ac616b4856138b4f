; Shadow volume, point light, extruded by a depth away from the light.
;   transform  object to clip, transposed
;   lt_pos     the light's position in object space
;   depth      (extrusion depth, 0, 0, 0)
vs_1_1
.constant transform c0 4
.constant lt_pos c4
.constant depth c5
dcl_position v0
dcl_normal v1
def c6, 0, 0, 0, 0
mov r1, v0
add r2.xyz, r1, -c4             ; away from the light
dp3 r3.x, r2, r2
rsq r3.x, r3.x
mul r2.xyz, r2, r3.x
dp3 r0.x, v1, r2
sge r0.x, r0.x, c6.x
mul r0.x, r0.x, c5.x
mad r1.xyz, r2, r0.x, r1
m4x4 oPos, r1, c0
