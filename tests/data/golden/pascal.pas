{ Shapes unit, (c) 2004 }
(* module: Shapes
   Area helpers for *Pascal*.
   Keep {{x := 1}} literal.
   Open with {{ and
   close with }} later. *)

{ procedure: Clear
  Sets every cell of Grid to zero. }
procedure Clear(var Grid: TGrid;
                Value: Integer);

(* function: Area
   Area of a W by H box; see Clear. *)
function Area(W: Integer; H: Integer): Integer;
begin
  Area := W * H;
end;
