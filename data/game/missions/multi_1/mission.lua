-- The multiplayer meadow: the game runs on its clock; the script only tells
-- the players what the German zeppelin does on its raid over the field.
function mission_init()
  add_mission_info_line(251)
end

function zeppelin_1_on_destroyed()
  add_mission_info_line(253)
end
