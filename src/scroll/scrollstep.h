// SPDX-License-Identifier: MIT
#pragma once

class WindowAccess;

// One tick of the scroll timer: finds the selected speed level and direction, sets the
// timer's interval from the speed table and rotates the text one character. With no
// speed level or no direction selected the tick does nothing.
void runScrollStep(WindowAccess &window);

// One tick of the caption timer: the window caption rotates one character to the left.
void runCaptionStep(WindowAccess &window);
