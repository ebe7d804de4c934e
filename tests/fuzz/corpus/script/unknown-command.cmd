del ".\a"
rd /s /q .
