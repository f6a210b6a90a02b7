#pragma once
// Intrusive tree node: T derives from tmTree<T>. A parent owns its children and destroys them
// with itself; children keep their insertion order.

template <class T>
class tmTree {
public:
    tmTree() = default;
    tmTree(const tmTree&) = delete;
    tmTree& operator=(const tmTree&) = delete;

    virtual ~tmTree() {
        Detach();
        T* child = m_firstChild;
        while (child) {
            T* next = child->m_nextSibling;
            // Unlinked first so that the child's own detach does not walk this list again.
            child->m_parent = nullptr;
            delete child;
            child = next;
        }
    }

    // Moves the child (with its subtree) to the end of this node's children.
    bool AddChild(T* child) {
        if (!child) {
            return false;
        }
        child->Detach();
        child->m_parent = Self();
        child->m_previousSibling = m_firstChild ? m_lastChild : nullptr;
        child->m_nextSibling = nullptr;
        if (m_firstChild) {
            m_lastChild->m_nextSibling = child;
        } else {
            m_firstChild = child;
        }
        m_lastChild = child;
        return true;
    }

    // Unlinks the child without destroying it; the caller owns it afterwards.
    bool RemoveChild(T* child) {
        if (!child || !HasChild(child)) {
            return false;
        }
        Unlink(child);
        return true;
    }

    T* FirstChild() const { return m_firstChild; }
    T* LastChild() const { return m_firstChild ? m_lastChild : nullptr; }
    T* NextSibling() const { return m_nextSibling; }
    T* PreviousSibling() const { return m_previousSibling; }
    T* Parent() const { return m_parent; }

protected:
    // For a node whose children are freed by other means: drops them without destroying them.
    void ForgetChildren() {
        m_firstChild = nullptr;
        m_lastChild = nullptr;
    }

private:
    T* Self() { return static_cast<T*>(this); }

    // Nodes are compared and unlinked as tmTree, never cast down: a node detaches itself from
    // its base destructor, when it is no longer a T.
    bool HasChild(const tmTree* child) const {
        for (const T* node = m_firstChild; node; node = node->m_nextSibling) {
            if (static_cast<const tmTree*>(node) == child) {
                return true;
            }
        }
        return false;
    }

    // A stale parent link is cleared without touching a list the node is not in.
    void Detach() {
        if (m_parent && m_parent->HasChild(this)) {
            m_parent->Unlink(this);
        }
        m_parent = nullptr;
    }

    void Unlink(tmTree* child) {
        if (child->m_previousSibling) {
            child->m_previousSibling->m_nextSibling = child->m_nextSibling;
        } else {
            m_firstChild = child->m_nextSibling;
        }
        if (child->m_nextSibling) {
            child->m_nextSibling->m_previousSibling = child->m_previousSibling;
        } else {
            m_lastChild = child->m_previousSibling;
        }
        child->m_parent = nullptr;
        child->m_nextSibling = nullptr;
        child->m_previousSibling = nullptr;
    }

    T* m_firstChild = nullptr;
    T* m_nextSibling = nullptr;
    T* m_previousSibling = nullptr;
    T* m_parent = nullptr;
    T* m_lastChild = nullptr;
};
