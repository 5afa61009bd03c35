Title:Fe₂O₃ at 295 K
Comment:
first line
second line
EndComment:
Data:
1 2 3
4 5 6
EndData:
  my   key :  12  
