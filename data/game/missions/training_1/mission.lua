-- First training flight. The instructor talks the pilot through the
-- take-off, then sends him north to the gun by the hills. Each handler
-- does the game's work before it writes its line, so a missing line never
-- holds the mission up.
lost = 0
done = 0

function mission_init()
  add_event("climb_hint", 12)
  add_mission_info_line(200)
  add_mission_info_line(201)
end

function climb_hint()
  add_event("target_hint", 15)
  add_mission_info_line(202)
end

function target_hint()
  add_mission_info_line(203)
end

function runway_end_on_enter()
  add_mission_info_line(204)
end

function target_area_on_enter()
  add_mission_info_line(205)
end

function flak_1_on_hit()
  add_mission_info_line(206)
end

function flak_1_on_destroyed()
  if done == 0 then
    done = 1
    store_mission_results(1, 0)
    add_event("finish", 4)
    add_mission_info_line(207)
  end
end

function mission_process()
  if user_alive == 0 and lost == 0 and done == 0 then
    lost = 1
    store_mission_results(0, 0)
    add_event("finish", 4)
    add_mission_info_line(208)
  end
end

function finish()
  terminate_mission()
end
