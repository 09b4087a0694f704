// Lets a walk over an object's handler list notice that a callback deleted
// the object (a command handler that closes its own window, a popup menu
// deleted by the handler of its command). The walk then stops without
// touching the object or its freed lists.
#ifndef KYT_FRAMEWORK_LIFEWATCH_H
#define KYT_FRAMEWORK_LIFEWATCH_H

class LifeWatch;

class LifeTracked {
public:
    LifeTracked() : watches(nullptr) {}
    LifeTracked(const LifeTracked&) : watches(nullptr) {}
    LifeTracked& operator=(const LifeTracked&) { return *this; }
    ~LifeTracked();

private:
    friend class LifeWatch;
    LifeWatch* watches;
};

// Stands on the stack for the time of one dispatch; watches nest. The object
// keeps the address of a watch only while the watch lives: its destructor
// takes it back out, which gcc's dangling-pointer check cannot see.
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
class LifeWatch {
public:
    explicit LifeWatch(LifeTracked& o) : object(&o), outer(o.watches), living(true) { o.watches = this; }
    ~LifeWatch()
    {
        if (living)
            object->watches = outer;
    }
    bool alive() const { return living; }

private:
    friend class LifeTracked;
    LifeWatch(const LifeWatch&) = delete;
    LifeWatch& operator=(const LifeWatch&) = delete;

    LifeTracked* object;
    LifeWatch* outer;
    bool living;
};
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

inline LifeTracked::~LifeTracked()
{
    for (LifeWatch* w = watches; w; w = w->outer)
        w->living = false;
}

#endif
