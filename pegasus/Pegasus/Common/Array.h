// Copy-on-write array. Every element type gets the same implementation from this template; the
// ArrayInter.h idiom that declares an array for one type is kept for source compatibility.
#ifndef Pegasus_Array_h
#define Pegasus_Array_h

#include <atomic>
#include <utility>
#include <Pegasus/Common/ArrayBuffer.h>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/Char16.h>
#include <Pegasus/Common/String.h>

PEGASUS_NAMESPACE_BEGIN

// Throws IndexOutOfBoundsException; kept out of line so Array.h needs no Exception.h.
PEGASUS_COMMON_LINKAGE void ArrayThrowIndexOutOfBoundsException();

template <class PEGASUS_ARRAY_T> class Array
{
    typedef PEGASUS_ARRAY_T T;

    struct Rep
    {
        std::atomic<Uint32> refs{1};
        ArrayBuffer<T> items;
        Rep() {}
        Rep(const Rep& x) : items(x.items) {}
    };

public:
    Array() : _rep(new Rep) {}
    Array(const Array<T>& x) : _rep(x._rep) { _self()->refs.fetch_add(1, std::memory_order_relaxed); }
    Array(Uint32 size) : _rep(new Rep) { _self()->items.grow(size); }
    Array(Uint32 size, const T& x) : _rep(new Rep) { _self()->items.grow(size, &x); }
    Array(const T* items, Uint32 size) : _rep(new Rep) { _self()->items.insert(0, items, size); }
    ~Array() { _release(_self()); }

    Array<T>& operator=(const Array<T>& x)
    {
        if (x._rep != _rep)
        {
            Rep* old = _self();
            _rep = x._rep;
            _self()->refs.fetch_add(1, std::memory_order_relaxed);
            _release(old);
        }
        return *this;
    }

    void clear()
    {
        if (_self()->refs.load(std::memory_order_acquire) == 1)
            _self()->items.clear();
        else
        {
            Rep* old = _self();
            _rep = new Rep;
            _release(old);
        }
    }
    void reserveCapacity(Uint32 capacity) { _mutable().reserve(capacity); }
    void grow(Uint32 size, const T& x)
    {
        T copy(x);
        _mutable().grow(size, &copy);
    }
    void swap(Array<T>& x) { std::swap(_rep, x._rep); }

    Uint32 size() const { return Uint32(_self()->items.size()); }
    Uint32 getCapacity() const { return Uint32(_self()->items.capacity()); }
    const T* getData() const { return _self()->items.data(); }

    T& operator[](Uint32 index)
    {
        if (index >= size()) ArrayThrowIndexOutOfBoundsException();
        return _mutable()[index];
    }
    const T& operator[](Uint32 index) const
    {
        if (index >= size()) ArrayThrowIndexOutOfBoundsException();
        return _self()->items[index];
    }

    void append(const T& x)
    {
        // x may live in this array: copy it before the storage can move.
        T copy(x);
        _mutable().insert(size(), &copy, 1);
    }
    void append(const T* x, Uint32 size) { insert(this->size(), x, size); }
    void appendArray(const Array<T>& x) { insert(size(), x.getData(), x.size()); }
    void prepend(const T& x) { insert(0, x); }
    void prepend(const T* x, Uint32 size) { insert(0, x, size); }
    void insert(Uint32 index, const T& x)
    {
        if (index > size()) ArrayThrowIndexOutOfBoundsException();
        T copy(x);
        _mutable().insert(index, &copy, 1);
    }
    void insert(Uint32 index, const T* x, Uint32 size)
    {
        if (index > this->size()) ArrayThrowIndexOutOfBoundsException();
        // The items may live in this array's storage: copy them before it can move.
        ArrayBuffer<T> copy;
        copy.insert(0, x, size);
        _mutable().insert(index, copy.data(), size);
    }
    void remove(Uint32 index) { remove(index, 1); }
    void remove(Uint32 index, Uint32 size)
    {
        if (index > this->size() || size > this->size() - index) ArrayThrowIndexOutOfBoundsException();
        _mutable().erase(index, size);
    }

private:
    Rep* _self() const { return static_cast<Rep*>(_rep); }
    T* _data() const { return _self()->items.data(); }
    static void _release(Rep* rep)
    {
        if (rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
    }
    ArrayBuffer<T>& _mutable()
    {
        if (_self()->refs.load(std::memory_order_acquire) != 1)
        {
            Rep* copy = new Rep(*_self());
            Rep* old = _self();
            _rep = copy;
            _release(old);
        }
        return _self()->items;
    }

    void* _rep;
};

PEGASUS_NAMESPACE_END

#endif
