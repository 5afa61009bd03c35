FirstChannel:1
ZeroChannel:2.5
ChannelPrice(mm/s):0.5
Data:     10      20      30      40
NonresonantPart:0.000000
Vexmoor:1.0
NumberChannel:4
LastChannel:4
