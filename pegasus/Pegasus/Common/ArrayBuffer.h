// Contiguous storage for Array<T>. std::vector would do, except that std::vector<bool> packs its
// elements into bits and cannot hand out the bool& and const bool* that Array<Boolean> must.
#ifndef Pegasus_ArrayBuffer_h
#define Pegasus_ArrayBuffer_h

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace Pegasus
{

template <class T> class ArrayBuffer
{
public:
    ArrayBuffer() {}
    ArrayBuffer(const ArrayBuffer& x) : ArrayBuffer() { insert(0, x._data, x._size); }
    ArrayBuffer& operator=(const ArrayBuffer&) = delete;
    ~ArrayBuffer()
    {
        clear();
        ::operator delete(static_cast<void*>(_data));
    }

    T* data() { return _data; }
    const T* data() const { return _data; }
    size_t size() const { return _size; }
    size_t capacity() const { return _capacity; }
    T& operator[](size_t index) { return _data[index]; }
    const T& operator[](size_t index) const { return _data[index]; }

    void reserve(size_t capacity)
    {
        if (capacity <= _capacity) return;
        T* fresh = static_cast<T*>(::operator new(capacity * sizeof(T)));
        if constexpr (std::is_trivially_copyable_v<T>)
        {
            // Bytes are copied as bytes: GCC 12 at -O3 takes the element loop, vectorised, for
            // writes past the new block (-Wstringop-overflow) when the buffer was empty.
            if (_size != 0)
                std::memcpy(static_cast<void*>(fresh), static_cast<const void*>(_data), _size * sizeof(T));
        }
        else
        {
            size_t moved = 0;
            try
            {
                for (; moved < _size; ++moved)
                    new (fresh + moved) T(std::move_if_noexcept(_data[moved]));
            }
            catch (...)
            {
                std::destroy(fresh, fresh + moved);
                ::operator delete(static_cast<void*>(fresh));
                throw;
            }
        }
        std::destroy(_data, _data + _size);
        ::operator delete(static_cast<void*>(_data));
        _data = fresh;
        _capacity = capacity;
    }

    // Appends count value-initialised elements (or copies of *value).
    void grow(size_t count, const T* value = nullptr)
    {
        _makeRoom(count);
        for (size_t i = 0; i < count; ++i, ++_size)
        {
            if (value)
                new (_data + _size) T(*value);
            else
                new (_data + _size) T();
        }
    }

    // Inserts copies of items[0..count) before index. items must not point into this buffer.
    void insert(size_t index, const T* items, size_t count)
    {
        if (count == 0) return;
        _makeRoom(count);
        // Move the tail up by count, from the back, then copy the items into the gap.
        size_t oldSize = _size;
        for (size_t i = oldSize; i > index; --i)
        {
            size_t from = i - 1, to = i - 1 + count;
            if (to >= oldSize)
                new (_data + to) T(std::move(_data[from]));
            else
                _data[to] = std::move(_data[from]);
        }
        for (size_t i = 0; i < count; ++i)
        {
            size_t to = index + i;
            if (to >= oldSize)
                new (_data + to) T(items[i]);
            else
                _data[to] = items[i];
        }
        _size = oldSize + count;
    }

    void erase(size_t index, size_t count)
    {
        for (size_t i = index; i + count < _size; ++i)
            _data[i] = std::move(_data[i + count]);
        std::destroy(_data + _size - count, _data + _size);
        _size -= count;
    }

    void clear()
    {
        std::destroy(_data, _data + _size);
        _size = 0;
    }

private:
    void _makeRoom(size_t count)
    {
        if (_size + count > _capacity) reserve(std::max(_size + count, _capacity * 2));
    }

    T* _data = nullptr;
    size_t _size = 0;
    size_t _capacity = 0;
};

} // namespace Pegasus

#endif
