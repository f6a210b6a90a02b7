#pragma once
// The plain vector, matrix and colour records of Direct3D 8, shared by the device interfaces and the
// D3DX math helpers. Layouts match d3d8types.h so that data copies byte for byte.

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

struct D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
};

struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};
