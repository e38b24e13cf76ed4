// (the wizard dialog)
