unit Stack;

{ module: Integer Stack
  A last-in, first-out stack of integers on a fixed array, for parsers
  that must not allocate while they run.

  Errors:
  an overflow or an underflow raises EStackError, whose message names
  the operation that failed. }

interface

uses SysUtils;

const
  MaxDepth = 32;

type
  EStackError = class(Exception);

  (* type: TStack
     The stack itself. Depth counts the values in use, and Items[1] is
     the oldest of them. Clear it with Reset before use. *)
  TStack = record
    Depth: Integer;
    Items: array[1..MaxDepth] of Integer;
  end;

{ procedure: Reset
  Empties the stack. }
procedure Reset(var S: TStack);

{ Procedure: Push
  Puts a value on top of the stack.

  S - the stack
  Value - the value to store; any integer

  Raises EStackError when all MaxDepth slots are in use. }
procedure Push(var S: TStack;
               Value: Integer);

(* FUNCTION: Pop
   Takes the top value off the stack and returns it.@n
   Raises EStackError on an empty stack, so test Depth first when the
   stack may be empty. *)
function Pop(var S: TStack): Integer;

implementation

procedure Reset(var S: TStack);
begin
  S.Depth := 0;
end;

procedure Push(var S: TStack; Value: Integer);
begin
  if S.Depth = MaxDepth then
    raise EStackError.Create('Push: stack full');
  Inc(S.Depth);
  S.Items[S.Depth] := Value;
end;

function Pop(var S: TStack): Integer;
begin
  if S.Depth = 0 then
    raise EStackError.Create('Pop: stack empty');
  Result := S.Items[S.Depth];
  Dec(S.Depth);
end;

end.
