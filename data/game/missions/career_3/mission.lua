-- The dogfight. Four German planes, their leader an ace, come over our
-- field from the east; our wingman is up already. Downing all four wins
-- the day; bringing the wingman through alive as well is the secondary
-- goal, and he lands once the sky is clear.
enemies = 0
wingman = 1
warned = 0
done = 0
downed = {}

function mission_init()
  add_mission_info_line(239)
  patrol_at_control_point("wingman_1", "over_field")
  patrol_at_control_point("hunter_1", "over_field")
  patrol_at_control_point("hunter_2", "over_field")
  patrol_at_control_point("hunter_3", "over_field")
  patrol_at_control_point("red_ace", "east")
  add_event("enemy_sighted", 8)
  add_event("leader_joins", 120)
end

function enemy_sighted()
  if done == 0 then
    add_mission_info_line(240)
  end
end

function leader_joins()
  if downed["red_ace"] == nil then
    patrol_at_control_point("red_ace", "over_field")
  end
end

-- An enemy counts once, shot down or flown into the ground.
function enemy_down(name)
  if downed[name] == nil then
    downed[name] = 1
    enemies = enemies + 1
    if enemies < 4 then
      add_mission_info_line(240 + enemies)
    end
    if name == "red_ace" then
      add_mission_info_line(248)
    end
    if enemies == 3 and downed["red_ace"] == nil then
      add_mission_info_line(247)
      patrol_at_control_point("red_ace", "over_field")
    end
    if enemies == 4 then
      win()
    end
  end
end

function hunter_1_on_destroyed() enemy_down("hunter_1") end
function hunter_1_on_crashed() enemy_down("hunter_1") end
function hunter_2_on_destroyed() enemy_down("hunter_2") end
function hunter_2_on_crashed() enemy_down("hunter_2") end
function hunter_3_on_destroyed() enemy_down("hunter_3") end
function hunter_3_on_crashed() enemy_down("hunter_3") end
function red_ace_on_destroyed() enemy_down("red_ace") end
function red_ace_on_crashed() enemy_down("red_ace") end

function wingman_1_on_hit()
  if warned == 0 and wingman == 1 then
    warned = 1
    add_mission_info_line(249)
  end
end

function wingman_lost()
  if wingman == 1 then
    wingman = 0
    add_mission_info_line(250)
  end
end

function wingman_1_on_destroyed() wingman_lost() end
function wingman_1_on_crashed() wingman_lost() end

function win()
  if done == 0 then
    done = 1
    add_mission_info_line(245)
    if wingman == 1 then
      land_plane("wingman_1", "touchdown", "direction")
    end
    add_event("wrap_up", 10)
  end
end

function wrap_up()
  if wingman == 1 then
    store_mission_results(1, 1)
    add_mission_info_line(335)
  else
    store_mission_results(1, 0)
  end
  add_event("finish", 4)
end

-- The mission is lost; command says in-game text number line.
function lose(line)
  if done == 0 then
    done = 1
    store_mission_results(0, 0)
    add_event("finish", 4)
    add_mission_info_line(line)
  end
end

function mission_process()
  if user_alive == 0 then
    lose(291)
  end
end

function finish()
  terminate_mission()
end
