#pragma once

#include <GL/gl.h>

// The interface pass as the main scene sets it up before drawing its widgets and docks: a
// pixel projection of the whole view, no depth test, texturing and alpha blending on, lighting
// off, cleared to black. Pixel-exact on llvmpipe.
inline void BeginOverlayPass(int width, int height)
{
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
