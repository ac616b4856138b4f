-- The escort. Our airship "airship_1" flies to the enemy's depot in the
-- north-east and bombs it; four German fighters go for her on the way, the
-- second pair called in later. She wins the day by reaching the depot;
-- downing all four raiders as well is the secondary goal.
raiders = 0
done = 0
downed = {}

function mission_init()
  add_mission_info_line(326)
  patrol_at_control_point("raider_1", "intercept")
  patrol_at_control_point("raider_2", "intercept")
  add_event("first_wave", 40)
  add_event("second_wave", 150)
end

function first_wave()
  if done == 0 then
    add_mission_info_line(327)
  end
end

function second_wave()
  if done == 0 then
    patrol_at_control_point("raider_3", "late_intercept")
    patrol_at_control_point("raider_4", "late_intercept")
    add_mission_info_line(328)
  end
end

-- A raider counts once, shot down or flown into the ground.
function raider_down(name)
  if downed[name] == nil then
    downed[name] = 1
    raiders = raiders + 1
    if raiders == 4 then
      add_mission_info_line(333)
    else
      add_mission_info_line(332)
    end
  end
end

function raider_1_on_destroyed() raider_down("raider_1") end
function raider_1_on_crashed() raider_down("raider_1") end
function raider_2_on_destroyed() raider_down("raider_2") end
function raider_2_on_crashed() raider_down("raider_2") end
function raider_3_on_destroyed() raider_down("raider_3") end
function raider_3_on_crashed() raider_down("raider_3") end
function raider_4_on_destroyed() raider_down("raider_4") end
function raider_4_on_crashed() raider_down("raider_4") end

-- The airship is over the depot: she bombs it by herself from here.
function depot_on_enter()
  if done == 0 then
    done = 1
    add_mission_info_line(329)
    add_event("raid_done", 10)
  end
end

function raid_done()
  if raiders == 4 then
    store_mission_results(1, 1)
  else
    store_mission_results(1, 0)
  end
  add_mission_info_line(331)
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

function airship_1_on_destroyed()
  lose(330)
end

function mission_process()
  if user_alive == 0 then
    lose(291)
  end
end

function finish()
  terminate_mission()
end
