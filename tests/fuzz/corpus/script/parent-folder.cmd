del ".\..\x"
