#pragma once
// The application's Direct3D device, which render resources are created on; null before the
// application has one.

struct IDirect3DDevice8;

IDirect3DDevice8* GetApplicationDevice();
