#include "sim/UTL_SimCtrlRoot.h"

#include <GL/gl.h>
#include <GL/glu.h>

void UTL_SimCtrlRoot::Initialize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    frameCount = 0;
    glWrapper = std::make_unique<OGL_Wrapper>();

    const GLfloat black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat fromAbove[] = {0.0f, 1.0f, 0.0f, 0.0f}; // directional, from +y
    glMaterialfv(GL_FRONT, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 100.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_CULL_FACE);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    CreateCamera();

    glEnable(GL_TEXTURE_2D);
    clearColor.Set(0.0f, 0.2f, 0.6f);
    glClearColor(clearColor.x, clearColor.y, clearColor.z, 0.0f);
    glShadeModel(GL_SMOOTH);
    glViewport(0, 0, width, height);
}

void UTL_SimCtrlRoot::CreateCamera()
{
    camera = std::make_unique<GFX_HalvaneCamera>();
    camera->SetMaxDistance(100.0f);
    camera->SetMinDistance(0.0f);
    camera->SetDistance(40.0f);
    camera->SetPitch(0.0f);
    camera->SetMinPitch(-90.0f);
    camera->SetTarget(GFX_Vector3(0.0f, 0.0f, 0.0f));
}

void UTL_SimCtrlRoot::BeginFrame(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    glViewport(0, 0, width, height);
    glClearColor(clearColor.x, clearColor.y, clearColor.z, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // A window shrunk to no width or height still gets a finite projection.
    const double aspect = width > 0 && height > 0 ? static_cast<double>(width) / height : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    if (camera)
    {
        camera->Update();
        camera->Apply();
        eyePosition = camera->GetEye();
    }
    const GLfloat light[] = {eyePosition.x, eyePosition.y, eyePosition.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
}

void UTL_SimCtrlRoot::Step(int newWidth, int newHeight, float /*seconds*/)
{
    BeginFrame(newWidth, newHeight);
    ++frameCount;
}

void UTL_SimCtrlRoot::OnMouseMove(int x, int y, int, int, int)
{
    mouseX = x;
    mouseY = y;
}

void UTL_SimCtrlRoot::OnMouseDown(int x, int y, int)
{
    mouseX = lastMouseX = x;
    mouseY = lastMouseY = y;
}

void UTL_SimCtrlRoot::OnMouseUp(int, int, int) {}

void UTL_SimCtrlRoot::OnMouseDoubleClick(int x, int y, int buttons)
{
    UTL_SimCtrlRoot::OnMouseDown(x, y, buttons);
}

void UTL_SimCtrlRoot::OnKeyDown(int key, int)
{
    if (key >= 0 && static_cast<unsigned>(key) < KeyCount)
        keyState[key] = 1;
}

void UTL_SimCtrlRoot::OnKeyUp(int key, int)
{
    if (key >= 0 && static_cast<unsigned>(key) < KeyCount)
        keyState[key] = 0;
}

void UTL_SimCtrlRoot::OnMouseWheel(int, int, int) {}

void UTL_SimCtrlRoot::ReleaseKeys()
{
    for (unsigned key = 0; key < KeyCount; ++key)
        if (keyState[key])
            OnKeyUp(static_cast<int>(key), 1);
}
