Attribute VB_Name = "Indented"
    Sub Indented()
        x = 1
    End Sub
    Public Function F()
    End Function
