è-- module: Counters
-- Simple counters for Ada.
-- Note: not thread safe.
-- type: Step
-- A positive amount; see Reset.
subtype Step is Positive;

-- procedure: Increment
-- Adds _By_ to C.
procedure Increment(C : in out Natural;
                    By : Step := 1);

-- sub:
-- Helper without a name.

--------------------------
-- function: Reset
-- Sets C back to zero.
--------------------------
function Reset(C : out Natural) return Boolean;
