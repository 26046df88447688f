#!/bin/sh
# Run hidden once when K_Vorne starts. The classroom's network is the school's business: this
# script changes nothing and is here for the program to find.
exit 0
