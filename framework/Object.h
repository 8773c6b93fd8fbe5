#pragma once

// Root of the framework's class tree: gives every object a virtual destructor.
class CObject {
public:
    virtual ~CObject() = default;
};
