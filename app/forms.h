// Creating and destroying the program's windows, each the single instance of its class.
#pragma once

// Creates every window in the program's fixed order; the toolbar's creation runs the start-up
// checks. The application object must exist already.
void createForms();
// Destroys them in the reverse order.
void destroyForms();
