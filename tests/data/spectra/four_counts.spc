FirstChannel:1
ZeroChannel:2.5
ChannelPrice(mm/s):0.5
Data:
10 20 30 40
EndData:
