#pragma once
// Single process-wide instances.
//
// tmSingleton<T>: a plain instance created on first use.
// tmSingletonGI<T>: the engine-level side of a replaceable manager; the one instance pointer
//   is typed as the engine-level class but holds the game-level subclass.
// tmSingletonGD<Derived, Base>: the game-level side; creates the instance on first use and
//   deletes it through DestroyInstance.

template <class T>
class tmSingleton {
public:
    static T& Instance() {
        if (!s_instance) {
            s_instance = new T();
        }
        return *s_instance;
    }
    static bool Exists() { return s_instance != nullptr; }
    // Deletes the instance; the next Instance() call creates a fresh one.
    static void DestroyInstance() {
        delete s_instance;
        s_instance = nullptr;
    }

protected:
    tmSingleton() = default;
    ~tmSingleton() = default;

private:
    inline static T* s_instance = nullptr;
};

template <class T>
class tmSingletonGI {
public:
    virtual void DestroyInstance() = 0;
    virtual ~tmSingletonGI() {
        if (s_instance == this) {
            s_instance = nullptr;
        }
    }
    // The current instance, or null before the game-level class created one.
    static T* GetInstance() { return s_instance; }

protected:
    tmSingletonGI() = default;
    inline static T* s_instance = nullptr;
};

template <class Derived, class Base>
class tmSingletonGD : public Base {
public:
    static Derived& Instance() {
        if (!Base::s_instance) {
            Base::s_instance = new Derived();
        }
        return static_cast<Derived&>(*Base::s_instance);
    }
    void DestroyInstance() override {
        Base::s_instance = nullptr;
        delete this;
    }
};
