Attribute VB_Name = "Ledger"
' module: Ledger
' Keeps the running balance of one account in memory.
'
' Amounts are Currency values, so cents never round away. The module
' does not save anything; PrintStatement shows what a caller may keep.

Option Explicit

Private mBalance As Currency
Private mEntries As Collection

' Function: AddEntry
' Books an amount and returns the new balance.
'
' Amount - positive for income, negative for spending
' Memo - a short note for the statement
Public Function AddEntry(ByVal Amount As Currency, _
                         ByVal Memo As String) As Currency
    If mEntries Is Nothing Then Set mEntries = New Collection
    mBalance = mBalance + Amount
    mEntries.Add Format$(Amount, "0.00") & "  " & Memo
    AddEntry = mBalance
End Function

' property: Balance
' The balance after the last entry; zero before the first.
Public Property Get Balance() As Currency
    Balance = mBalance
End Property

' SUB: PrintStatement
' Writes every entry to the Immediate window, one line each, and the
' balance below them.@n
' For a statement on paper, see @link[http://example.org/ledger/print, the printing notes].
Public Sub PrintStatement()
    Dim Entry As Variant
    If Not mEntries Is Nothing Then
        For Each Entry In mEntries
            Debug.Print Entry
        Next
    End If
    Debug.Print "Balance: " & Format$(mBalance, "0.00")
End Sub
