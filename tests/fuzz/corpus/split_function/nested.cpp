class A {
  void f() { if (x) { y(); } }
};
class B : public A { int s = '}'; };
sub perl { { } }
class Open {
