è' Module: Text Tools
' Helpers for *strings* in VB.
'
' Features:
' o trims blanks
' o pads to a width,
'   counted from the left
'
' Limits: none known.
' Function: PadLeft
' Pads text on the left.@nSee Clamp.
Public Function PadLeft(ByVal s As String, _
        ByVal width As Long) As String
    PadLeft = Space(width - Len(s)) & s
End Function

' Sub: Clamp
' Keeps v between lo and hi.
' FuncTion: not a keyword
Public Sub Clamp(v As Long, lo As Long, hi As Long)
End Sub
