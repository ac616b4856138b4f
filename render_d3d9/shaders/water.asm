; Water. The surface (v0, with its colour and opacity in v1) is lifted by
; three directional sine waves; the normal of the waved surface reflects
; the view into the cube map (texture set 0), its steepness gives the
; caustic strength (specular colour) and the position, scaled, the caustic
; coordinates (texture set 1).
;   transformation     water to clip, transposed
;   orientation        water to world rotation, transposed
;   waves_dir_x/z      the three directions' x and z
;   waves_offset       how far each wave has travelled
;   waves_amp/freq     amplitudes and 2 pi / wave lengths
;   camera_pos         the camera in water space
;   inv_caustic_scale  1 / caustic scale (0 for none)
;   caustic_intensity  caustic strength
vs_1_1
.constant transformation c0 4
.constant orientation c4 3
.constant waves_dir_x c7
.constant waves_dir_z c8
.constant waves_offset c9
.constant waves_amp c10
.constant waves_freq c11
.constant camera_pos c12
.constant inv_caustic_scale c13
.constant caustic_intensity c14
dcl_position v0
dcl_color v1
def c15, 0.159154937, 0.25, 0.5, 6.28318548
def c16, 1, -0.166666672, 0.00833333377, -0.000198412701
def c17, 1, -0.5, 0.0416666679, -0.00138888892
def c18, 8, 0, 0, -2
mov r0, v0
mul r1.xyz, r0.x, c7            ; phase of each wave
mad r1.xyz, r0.z, c8, r1
add r1.xyz, r1, -c9
mul r1.xyz, r1, c11
mad r1.xyz, r1, c15.x, c15.z    ; into -pi..pi
frc r1.xyz, r1
add r1.xyz, r1, -c15.z
mul r1.xyz, r1, c15.w
mul r2.xyz, r1, r1              ; x squared
mov r3.xyz, c16.w               ; sine series
mad r3.xyz, r3, r2, c16.z
mad r3.xyz, r3, r2, c16.y
mad r3.xyz, r3, r2, c16.x
mul r3.xyz, r3, r1
mov r4.xyz, c17.w               ; cosine series
mad r4.xyz, r4, r2, c17.z
mad r4.xyz, r4, r2, c17.y
mad r4.xyz, r4, r2, c17.x
dp3 r5.x, r3, c10               ; height
add r0.y, r0.y, r5.x
m4x4 oPos, r0, c0
mov r6.xyz, c10
mul r6.xyz, r6, c11             ; amplitude x frequency
mul r6.xyz, r6, r4              ; slope of each wave
dp3 r7.x, r6, c7
dp3 r7.z, r6, c8
mov r7.xz, -r7                  ; normal (-dh/dx, 1, -dh/dz)
mov r7.y, c16.x
dp3 r11.x, r7, r7
rsq r11.x, r11.x
mul r7.xyz, r7, r11.x
add r8.xyz, r0, -c12            ; view direction
dp3 r9.x, r8, r7
mul r9.x, r9.x, c18.w
mad r8.xyz, r7, r9.x, r8        ; reflected
m3x3 oT0.xyz, r8, c4
add r10.x, -r7.y, c16.x         ; 1 - n.y
mul r10.x, r10.x, c18.x
add r10.x, c16.x, -r10.x
max r10.x, r10.x, c18.y
mul oD1, r10.x, c14.x
mov oD0, v1
mul oT1.xy, r0.xz, c13.x
