// Support code shared by the tests lives beside this file.
