// gl_webgl.h -- what the web backend's platform side asks of its GL (the GL
// 1.1 subset the show calls, drawn through WebGL 1 in gl_webgl.cpp).
#pragma once

// The context just made current is new: its WebGL objects are made on the next draw.
void glwebContextChanged();
// While on, GL keeps every state and matrix but draws and clears nothing
// (frames the deterministic run steps through without looking at them).
void glwebSkipDrawing(bool skip);
