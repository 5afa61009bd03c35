Comment:unsorted pairs
VelocitySpectrum:
0.25 30 -0.75 10
0.75 40 -0.25 20
EndVelocitySpectrum:
