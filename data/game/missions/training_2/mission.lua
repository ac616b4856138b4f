-- Second training flight. Three balloons over the river, two guns below
-- them. Burning the balloons wins the day; silencing the battery as well
-- is the secondary goal. The balloons are hauled down after ten minutes.
balloons = 0
guns = 0
done = 0

function mission_init()
  add_event("balloons_hint", 10)
  add_event("out_of_time", 600)
  add_mission_info_line(209)
end

function balloons_hint()
  add_mission_info_line(210)
  add_mission_info_line(218)
end

function river_on_enter()
  add_mission_info_line(211)
end

function balloon_down()
  balloons = balloons + 1
  if balloons == 3 then
    add_event("wrap_up", 30)
    add_mission_info_line(214)
  else
    add_mission_info_line(211 + balloons)
  end
end

function balloon_1_on_destroyed()
  balloon_down()
end

function balloon_2_on_destroyed()
  balloon_down()
end

function balloon_3_on_destroyed()
  balloon_down()
end

function gun_down()
  guns = guns + 1
  if guns == 2 then
    add_mission_info_line(215)
    if balloons == 3 then
      wrap_up()
    end
  end
end

function battery_1_on_destroyed()
  gun_down()
end

function battery_2_on_destroyed()
  gun_down()
end

function wrap_up()
  if done == 0 then
    done = 1
    if guns == 2 then
      store_mission_results(1, 1)
    else
      store_mission_results(1, 0)
    end
    add_event("finish", 4)
  end
end

-- The mission is lost; the instructor says in-game text number line.
function lose(line)
  if done == 0 then
    done = 1
    store_mission_results(0, 0)
    add_event("finish", 4)
    add_mission_info_line(line)
  end
end

function out_of_time()
  lose(216)
end

function mission_process()
  if user_alive == 0 then
    lose(208)
  end
end

function finish()
  terminate_mission()
end
