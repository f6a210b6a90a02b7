#pragma once
// Mesh algorithms on plain index lists (three indices per face).

#include <vector>

#include "platform/d3dx8/math.h"
#include "platform/win32/types.h"

namespace d3dx8 {

constexpr DWORD kNoNeighbour = 0xFFFFFFFF;

// Three entries per face: the face sharing each edge (corners 0-1, 1-2, 2-0) in the opposite
// direction, or kNoNeighbour. Positions closer than epsilon in every axis count as one point.
std::vector<DWORD> ComputeAdjacency(const std::vector<D3DXVECTOR3>& positions,
                                    const std::vector<DWORD>& indices, float epsilon);

// A face order (new face -> old face) that keeps each attribute's faces together in their
// present order of attributes and, within them, reuses recently used vertices: a greedy walk
// over a simulated vertex cache.
std::vector<DWORD> VertexCacheFaceOrder(const std::vector<DWORD>& indices,
                                        const std::vector<DWORD>& attributes, DWORD numVertices);

// Vertices in the order the faces first use them, unused ones last (new vertex -> old vertex).
std::vector<DWORD> FirstUseVertexOrder(const std::vector<DWORD>& indices, DWORD numVertices);

// Adjacency of the faces after reordering them (new face -> old face).
std::vector<DWORD> RemapAdjacency(const DWORD* adjacency, const std::vector<DWORD>& newToOldFace);

}  // namespace d3dx8
