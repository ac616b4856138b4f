targets = { "a", "b" }
for k, v in targets do
  local f = function() record(%v) end
end
-- [[ comment %x
s = "path\\to %y"
