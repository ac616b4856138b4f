-- The convoy. Four vehicles drive down the road from the north-western
-- hills to the front depot; the ones behind a burning vehicle wait. Stopping
-- all four before one of them gets there wins the day; burning the depot's
-- store as well is the secondary goal.
vehicles = 0
store = 0
done = 0
downed = {}

function mission_init()
  add_mission_info_line(231)
  add_event("guns_hint", 30)
end

function guns_hint()
  if done == 0 then
    add_mission_info_line(238)
  end
end

function crossroads_on_enter()
  add_mission_info_line(232)
end

function vehicle_down(name)
  if downed[name] == nil then
    downed[name] = 1
    vehicles = vehicles + 1
    if vehicles == 1 then
      add_mission_info_line(233)
    end
    if vehicles == 2 then
      add_mission_info_line(234)
    end
    if vehicles == 4 then
      add_mission_info_line(235)
      win()
    end
  end
end

function lorry_1_on_destroyed() vehicle_down("lorry_1") end
function lorry_2_on_destroyed() vehicle_down("lorry_2") end
function staff_car_on_destroyed() vehicle_down("staff_car") end
function lorry_3_on_destroyed() vehicle_down("lorry_3") end

function depot_store_on_destroyed()
  store = 1
  add_mission_info_line(334)
end

function win()
  if done == 0 then
    done = 1
    add_event("wrap_up", 10)
  end
end

-- The store may still be bombed while the last wreck burns.
function wrap_up()
  if store == 1 then
    store_mission_results(1, 1)
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

-- A vehicle has got through to the front.
function depot_on_enter()
  lose(237)
end

function mission_process()
  if user_alive == 0 then
    lose(291)
  end
end

function finish()
  terminate_mission()
end
