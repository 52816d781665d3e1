#pragma once

class Outer : public Base
{
public:
    struct Inner {
        int x;
    };
    void run() { go(); }
};

class Shape
{
};
