VelocitySpectrum:
-0.75, 10, -0.25, 20,
0.25, 30, 0.75, 40
EndVelocitySpectrum:
