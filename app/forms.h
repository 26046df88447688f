// Creating and destroying the program's windows, each the single instance of its class.
#pragma once

class BoardModel;

// Creates the toolbar, whose creation runs the start-up checks, and hands the default
// teacher's settings to the board; every other window is made when the program first uses it.
// The application object must exist already.
void createForms();
// Destroys them in the reverse order.
void destroyForms();

// The board's pages and drawing state, there from the start whether or not the board was shown.
BoardModel& boardModel();
