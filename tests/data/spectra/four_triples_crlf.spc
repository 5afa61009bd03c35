VelocitySpectrumStdDev:
-0.75 10 1
-0.25 20 2
0.25 30 3
0.75 40 4
EndVelocitySpectrumStdDev:
