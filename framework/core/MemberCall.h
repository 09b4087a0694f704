// An object and one of its member functions, kept together so that a list can
// call it later: idle tasks, timers and the handler records of the windows all
// hold one. The record knows neither the object's class nor the function's, so
// lists of mixed classes are possible; two records are equal when they name
// the same object and the same function.
#ifndef KYT_FRAMEWORK_MEMBERCALL_H
#define KYT_FRAMEWORK_MEMBERCALL_H

#include <cstring>

template <typename Signature>
class MemberCall;

template <typename R, typename... Args>
class MemberCall<R(Args...)> {
public:
    MemberCall() : object(nullptr), invoker(nullptr) { std::memset(function, 0, sizeof function); }

    // The object is converted to the class that declares the function first,
    // so a derived object may register a member of its base.
    template <typename O, typename T>
    MemberCall(O* obj, R (T::*fn)(Args...))
    {
        static_assert(sizeof fn <= sizeof function, "member function pointer too large");
        T* target = obj;
        object = static_cast<void*>(target);
        std::memset(function, 0, sizeof function);
        std::memcpy(function, &fn, sizeof fn);
        invoker = &invoke<T>;
    }

    R operator()(Args... args) const { return invoker(object, function, args...); }

    bool isSet() const { return invoker != nullptr; }
    void* target() const { return object; }

    bool isFor(const MemberCall& other) const
    {
        return object == other.object && invoker == other.invoker &&
               std::memcmp(function, other.function, sizeof function) == 0;
    }

    template <typename O, typename T>
    bool isFor(O* obj, R (T::*fn)(Args...)) const
    {
        return isFor(MemberCall(obj, fn));
    }

private:
    typedef R (*Invoker)(void*, const unsigned char*, Args...);

    template <typename T>
    static R invoke(void* obj, const unsigned char* fnBytes, Args... args)
    {
        R (T::*fn)(Args...);
        std::memcpy(&fn, fnBytes, sizeof fn);
        return (static_cast<T*>(obj)->*fn)(args...);
    }

    struct Probe {
        virtual ~Probe() {}
    };
    typedef void (Probe::*ProbeFunction)();

    void* object;
    unsigned char function[sizeof(ProbeFunction)];
    Invoker invoker;
};

#endif
