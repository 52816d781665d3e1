#!/usr/bin/perl
use strict;

sub greet {
    my ($name) = @_;
    return "Hello $name";
}

sub trim_it {
    my $s = shift;
    $s =~ s/^\s+//;
    return $s;
}
