Attribute VB_Name = "M"
Private Sub Form_Load()
  x = 1
End Sub
Public Function F(a As Integer) As Integer
  F = a
End Function
sub lower()
end sub
Function Open()
