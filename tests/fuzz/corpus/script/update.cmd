del ".\Kreiselsturm"
ren ".\Kreiselsturm.dxe" Kreiselsturm
start .\Kreiselsturm
