// platform/sdl_window.h: inside platform/ only: the SDL window the OpenGL
// backend draws into. Null while no SDL window exists.
#pragma once

struct SDL_Window;
SDL_Window* sdlMainWindow();
