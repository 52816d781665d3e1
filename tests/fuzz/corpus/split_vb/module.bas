Attribute VB_Name = "Module1"
Option Explicit

Public Function Twice(ByVal n As Long) As Long
    Twice = n * 2
End Function

Sub Main()
    Dim s As String
    s = "x"
END SUB

Private Sub Form_Load()
    Caption = "Hello"
End Sub

Sub Broken()
    x = 1
End  Sub
