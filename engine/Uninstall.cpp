// (written with the install and uninstall procedures)
