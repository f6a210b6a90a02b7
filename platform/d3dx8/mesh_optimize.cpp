#include "platform/d3dx8/mesh_optimize.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace d3dx8 {
namespace {

constexpr int kCacheSize = 24;
constexpr int kNotCached = -1;
constexpr DWORD kFacesWeighedPerVertex = 64;

// Each vertex's representative: the lowest-numbered vertex at the same point.
std::vector<DWORD> PointRepresentatives(const std::vector<D3DXVECTOR3>& positions, float epsilon) {
    const DWORD count = static_cast<DWORD>(positions.size());
    std::vector<DWORD> byX(count);
    std::iota(byX.begin(), byX.end(), 0);
    std::sort(byX.begin(), byX.end(), [&](DWORD a, DWORD b) {
        const D3DXVECTOR3& p = positions[a];
        const D3DXVECTOR3& q = positions[b];
        return p.x != q.x ? p.x < q.x : p.y != q.y ? p.y < q.y : p.z != q.z ? p.z < q.z : a < b;
    });
    std::vector<DWORD> representative(count);
    std::iota(representative.begin(), representative.end(), 0);
    if (epsilon <= 0.0f) {
        // Equal points are neighbours in the sorted order, and the lowest number comes first.
        for (DWORD i = 1; i < count; ++i) {
            if (positions[byX[i]] == positions[byX[i - 1]]) {
                representative[byX[i]] = representative[byX[i - 1]];
            }
        }
        return representative;
    }
    for (DWORD i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positions[byX[i]];
        for (DWORD j = i + 1; j < count && positions[byX[j]].x - p.x <= epsilon; ++j) {
            const D3DXVECTOR3& q = positions[byX[j]];
            if (std::fabs(q.y - p.y) <= epsilon && std::fabs(q.z - p.z) <= epsilon) {
                DWORD& rep = representative[byX[j]];
                rep = std::min(rep, representative[byX[i]]);
            }
        }
    }
    return representative;
}

std::uint64_t EdgeKey(DWORD from, DWORD to) {
    return (std::uint64_t(from) << 32) | to;
}

float VertexScore(int cachePosition, DWORD remainingFaces) {
    float score = 0.0f;
    if (cachePosition != kNotCached) {
        // The last face's three vertices score alike, so no face is favoured for its order.
        score = cachePosition < 3 ? 0.75f
                                  : std::pow(1.0f - float(cachePosition - 3) / float(kCacheSize - 3), 1.5f);
    }
    // Vertices with few faces left are finished first, so they leave the cache for good.
    return score + (remainingFaces > 0 ? 2.0f / std::sqrt(float(remainingFaces)) : 0.0f);
}

// The greedy walk over the faces [first, last).
class CacheWalk {
public:
    CacheWalk(const std::vector<DWORD>& indices, DWORD first, DWORD last, DWORD numVertices)
        : m_indices(indices),
          m_first(first),
          m_last(last),
          m_cachePosition(numVertices, kNotCached),
          m_remaining(numVertices, 0),
          m_emitted(last - first, false) {
        std::vector<DWORD> starts(numVertices + 1, 0);
        for (DWORD face = first; face < last; ++face) {
            for (int corner = 0; corner < 3; ++corner) {
                ++starts[indices[face * 3 + corner] + 1];
                ++m_remaining[indices[face * 3 + corner]];
            }
        }
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        m_faceStart = starts;
        m_liveEnd.assign(starts.begin() + 1, starts.end());
        m_vertexFaces.resize(starts.back());
        for (DWORD face = first; face < last; ++face) {
            for (int corner = 0; corner < 3; ++corner) {
                m_vertexFaces[starts[indices[face * 3 + corner]]++] = face;
            }
        }
    }

    void Run(std::vector<DWORD>& order) {
        DWORD cursor = m_first;
        for (DWORD done = 0; done < m_last - m_first; ++done) {
            DWORD face = BestCachedFace();
            if (face == kNoNeighbour) {
                while (m_emitted[cursor - m_first]) {
                    ++cursor;
                }
                face = cursor;
            }
            Emit(face);
            order.push_back(face);
        }
    }

private:
    float FaceScore(DWORD face) const {
        float score = 0.0f;
        for (int corner = 0; corner < 3; ++corner) {
            const DWORD v = m_indices[face * 3 + corner];
            score += VertexScore(m_cachePosition[v], m_remaining[v]);
        }
        return score;
    }

    // Emitted faces are dropped from the lists as they are met, and only the first few live
    // faces of a vertex are weighed, so vertices shared by thousands of faces stay cheap.
    DWORD BestCachedFace() {
        DWORD best = kNoNeighbour;
        float bestScore = -1.0f;
        for (const DWORD vertex : m_cache) {
            DWORD weighed = 0;
            for (DWORD i = m_faceStart[vertex]; i < m_liveEnd[vertex] && weighed < kFacesWeighedPerVertex;) {
                const DWORD face = m_vertexFaces[i];
                if (m_emitted[face - m_first]) {
                    m_vertexFaces[i] = m_vertexFaces[--m_liveEnd[vertex]];
                    continue;
                }
                const float score = FaceScore(face);
                if (score > bestScore) {
                    bestScore = score;
                    best = face;
                }
                ++weighed;
                ++i;
            }
        }
        return best;
    }

    void Emit(DWORD face) {
        m_emitted[face - m_first] = true;
        for (int corner = 2; corner >= 0; --corner) {
            const DWORD v = m_indices[face * 3 + corner];
            --m_remaining[v];
            const auto found = std::find(m_cache.begin(), m_cache.end(), v);
            if (found != m_cache.end()) {
                m_cache.erase(found);
            }
            m_cache.insert(m_cache.begin(), v);
        }
        if (m_cache.size() > kCacheSize) {
            for (std::size_t i = kCacheSize; i < m_cache.size(); ++i) {
                m_cachePosition[m_cache[i]] = kNotCached;
            }
            m_cache.resize(kCacheSize);
        }
        for (std::size_t i = 0; i < m_cache.size(); ++i) {
            m_cachePosition[m_cache[i]] = static_cast<int>(i);
        }
    }

    const std::vector<DWORD>& m_indices;
    DWORD m_first;
    DWORD m_last;
    std::vector<int> m_cachePosition;
    std::vector<DWORD> m_remaining;
    std::vector<bool> m_emitted;
    std::vector<DWORD> m_faceStart;
    std::vector<DWORD> m_liveEnd;
    std::vector<DWORD> m_vertexFaces;
    std::vector<DWORD> m_cache;
};

}  // namespace

std::vector<DWORD> ComputeAdjacency(const std::vector<D3DXVECTOR3>& positions,
                                    const std::vector<DWORD>& indices, float epsilon) {
    const std::vector<DWORD> rep = PointRepresentatives(positions, epsilon);
    const std::size_t faces = indices.size() / 3;
    std::unordered_map<std::uint64_t, DWORD> edgeFace;
    edgeFace.reserve(indices.size());
    for (std::size_t face = 0; face < faces; ++face) {
        for (int edge = 0; edge < 3; ++edge) {
            const DWORD a = rep[indices[face * 3 + edge]];
            const DWORD b = rep[indices[face * 3 + (edge + 1) % 3]];
            edgeFace.emplace(EdgeKey(a, b), static_cast<DWORD>(face));
        }
    }
    std::vector<DWORD> adjacency(indices.size(), kNoNeighbour);
    for (std::size_t face = 0; face < faces; ++face) {
        for (int edge = 0; edge < 3; ++edge) {
            const DWORD a = rep[indices[face * 3 + edge]];
            const DWORD b = rep[indices[face * 3 + (edge + 1) % 3]];
            const auto found = a != b ? edgeFace.find(EdgeKey(b, a)) : edgeFace.end();
            if (found != edgeFace.end() && found->second != face) {
                adjacency[face * 3 + edge] = found->second;
            }
        }
    }
    return adjacency;
}

std::vector<DWORD> VertexCacheFaceOrder(const std::vector<DWORD>& indices,
                                        const std::vector<DWORD>& attributes, DWORD numVertices) {
    const DWORD faces = static_cast<DWORD>(attributes.size());
    std::vector<DWORD> order;
    order.reserve(faces);
    for (DWORD first = 0; first < faces;) {
        DWORD last = first;
        while (last < faces && attributes[last] == attributes[first]) {
            ++last;
        }
        CacheWalk(indices, first, last, numVertices).Run(order);
        first = last;
    }
    return order;
}

std::vector<DWORD> FirstUseVertexOrder(const std::vector<DWORD>& indices, DWORD numVertices) {
    std::vector<bool> used(numVertices, false);
    std::vector<DWORD> order;
    order.reserve(numVertices);
    for (const DWORD v : indices) {
        if (!used[v]) {
            used[v] = true;
            order.push_back(v);
        }
    }
    for (DWORD v = 0; v < numVertices; ++v) {
        if (!used[v]) {
            order.push_back(v);
        }
    }
    return order;
}

std::vector<DWORD> RemapAdjacency(const DWORD* adjacency, const std::vector<DWORD>& newToOldFace) {
    const DWORD faces = static_cast<DWORD>(newToOldFace.size());
    std::vector<DWORD> oldToNew(faces);
    for (DWORD f = 0; f < faces; ++f) {
        oldToNew[newToOldFace[f]] = f;
    }
    std::vector<DWORD> remapped(std::size_t(faces) * 3, kNoNeighbour);
    for (DWORD f = 0; f < faces; ++f) {
        for (int edge = 0; edge < 3; ++edge) {
            const DWORD neighbour = adjacency[std::size_t(newToOldFace[f]) * 3 + edge];
            remapped[std::size_t(f) * 3 + edge] = neighbour < faces ? oldToNew[neighbour] : kNoNeighbour;
        }
    }
    return remapped;
}

}  // namespace d3dx8
