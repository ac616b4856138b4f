; Shadow volume, directional light, extruded by a depth. Vertices whose
; face normal (v1) points along the light's travel are pushed that way.
;   transform  object to clip, transposed
;   lt_dir     the light's travel direction in object space
;   depth      (extrusion depth, 0, 0, 0)
vs_1_1
.constant transform c0 4
.constant lt_dir c4
.constant depth c5
dcl_position v0
dcl_normal v1
def c6, 0, 0, 0, 0
dp3 r0.x, v1, c4
sge r0.x, r0.x, c6.x            ; 1 on faces turned from the light
mul r0.x, r0.x, c5.x
mov r1, v0
mad r1.xyz, c4, r0.x, r1
m4x4 oPos, r1, c0
