// (the skin controls)
