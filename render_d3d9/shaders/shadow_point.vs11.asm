; Shadow volume, point light, extruded to infinity away from the light.
;   transform  object to clip, transposed
;   lt_pos     the light's position in object space
vs_1_1
.constant transform c0 4
.constant lt_pos c4
dcl_position v0
dcl_normal v1
def c5, 0, 0, 0, 1
mov r1, v0
add r2.xyz, r1, -c4
dp3 r0.x, v1, r2
sge r0.x, r0.x, c5.x
add r2.xyz, r2, -r1
mad r1.xyz, r2, r0.x, r1
add r1.w, c5.w, -r0.x
m4x4 oPos, r1, c0
