DEL ".\it's game"
REN ".\a b.dxe" it's game
START .\it's game

