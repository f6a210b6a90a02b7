#pragma once
// Products and row operations on affine matrices (fourth column (0, 0, 0, 1)), written out for
// the 3 by 3 block and the translation row because every entity runs them every tick.

#include "platform/d3dx8/math.h"

// a × b for affine a: the block and translation of the product; the fourth column becomes
// (0, 0, 0, 1) whatever b holds there.
D3DXMATRIX MultiplyAffine(const D3DXMATRIX& a, const D3DXMATRIX& b);
// The same product written into product, which may be a or b.
void MultiplyAffine(const D3DXMATRIX& a, const D3DXMATRIX& b, D3DXMATRIX& product);
// target's upper 3 by 3 block := block × rotation's block; elements 14, 24, 34 := 0; the
// translation row is kept.
void MultiplyBlock(D3DXMATRIX& target, const D3DXMATRIX& rotation);
// The inverse of m's upper 3 by 3 block by cofactors, identity elsewhere; a singular block is
// returned as it is.
D3DXMATRIX InverseBlock(const D3DXMATRIX& m);
// Length of row (0 to 2) in its first three elements.
float AxisLength(const D3DXMATRIX& m, int row);
// Scales row (0 to 2) in its first three elements to the wanted length; a zero row has no
// direction to keep and stays as it is.
void SetAxisLength(D3DXMATRIX& m, int row, float wanted);
// SetAxisLength for the three rows with the components of lengths.
void SetAxisLengths(D3DXMATRIX& m, const D3DXVECTOR3& lengths);
// m := m × rotationX(angle), and likewise about y and z; the translation row turns too.
void RotateX(D3DXMATRIX& m, float angle);
void RotateY(D3DXMATRIX& m, float angle);
void RotateZ(D3DXMATRIX& m, float angle);
// Adds offset to the translation row.
void Translate(D3DXMATRIX& m, const D3DXVECTOR3& offset);
