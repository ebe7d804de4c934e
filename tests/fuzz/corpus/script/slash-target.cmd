ren ".\a.dxe" b/c
