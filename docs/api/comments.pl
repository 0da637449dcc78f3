#!/usr/bin/perl
# Doxygen input filter: the engine's headers use plain // comments. A comment block
# documents each declaration after it up to the next blank line or comment; a trailing
# // comment documents its declaration; the header's opening comment documents the file
# (and the class it is named after); everything in the file joins the group of its
# subsystem folder. A short heading ("// Lifecycle.") above further comment lines
# documents nothing by itself.
use strict;
use warnings;

my $path = $ARGV[0];
open(my $in, '<', $path) or die "$path: $!";
my @lines = <$in>;
close $in;
chomp @lines;

my ($group) = $path =~ m{([^/]+)/[^/]+\.h$};
$group = 'engine' if !defined $group || $path =~ m{/Korvex3D\.h$};

my $comment = qr{^\s*//(?!/)};
my $heading = qr{^\s*// [A-Z][a-z]*(?:[ -][A-Za-z0-9(),]+){0,7}\.\s*$};  # "// Lifecycle."
my ($stem) = $path =~ m{([^/]+)\.h$};
my $code_seen = 0;
my $file_documented = 0;
my @file_doc;
my @out;

for (my $i = 0; $i < @lines; $i++) {
    if ($lines[$i] !~ $comment) {
        my $line = $lines[$i];
        # The class a header is named after is what its opening comment describes.
        if ($line =~ /^(class|struct) \Q$stem\E\b[^;]*$/ && (!@out || $out[-1] !~ m{^\s*///})) {
            push @out, @file_doc;
        }
        # A declaration's trailing comment.
        if ($line =~ m{^([^"/]*\S[^"/]*?)(\s*)//(?![/<])\s?(.*)$} && $1 !~ m{^\s*#}) {
            $line = "$1$2///< $3";
        }
        $code_seen = 1 if $line =~ /\S/ && $line !~ m{^\s*#};
        push @out, $line;
        next;
    }
    my $end = $i;
    $end++ while $end + 1 < @lines && $lines[$end + 1] =~ $comment;
    my $next = $end + 1 < @lines ? $lines[$end + 1] : '';
    my @block = @lines[$i .. $end];
    if (!$code_seen && !$file_documented && $next =~ /^\s*$/) {
        # The header's opening comment describes the file.
        @file_doc = map { s{//\s?}{/// }r } @block;
        push @out, "/// \\file", @file_doc;
        $file_documented = 1;
    } elsif ($next =~ /^\s*$/ || $next =~ /^\s*(#|}|private:|public:|protected:)/) {
        push @out, @block;  # a note between declarations stays a plain comment
    } else {
        my $first = 0;
        if (@block > 1 && $block[0] =~ $heading) {
            push @out, $block[0];  # a section heading inside a class
            $first = 1;
        }
        my @doc = map { s{//}{///}r } @block[$first .. $#block];
        push @out, @doc;
        $end = paragraph($end + 1, \@doc) if $first == 0;
    }
    $i = $end;
}

# Copies the paragraph's documentation above each further statement of the paragraph
# that starting at line $from; answers the last line handled.
sub paragraph {
    my ($from, $doc) = @_;
    my ($depth, $ended) = (0, 0);
    my $i = $from;
    for (; $i < @lines && $lines[$i] =~ /\S/ && $lines[$i] !~ $comment; $i++) {
        my $line = $lines[$i];
        if ($ended && $depth == 0 && $line !~ /^\s*(#|})/) {
            my ($indent) = $line =~ /^(\s*)/;
            push @out, map { s{^\s*}{$indent}r } @$doc;
        }
        $line =~ s{^([^"/]*\S[^"/]*?)(\s*)//(?![/<])\s?(.*)$}{$1$2///< $3};
        push @out, $line;
        $depth += () = $line =~ /\{/g;
        $depth -= () = $line =~ /\}/g;
        $ended = $depth == 0 && $line =~ /[;}]\s*(\/\/.*)?$/;
    }
    return $i - 1;
}

# Everything in the header belongs to its subsystem's group.
my $start = 0;
$start++ while $start < @out && $out[$start] =~ m{^\s*(#ifndef|#define|#pragma)};
splice @out, $start, 0, "/// \\addtogroup $group", "/// \@{";
my $last = $#out;
$last-- while $last > 0 && $out[$last] !~ /^\s*#endif/;
splice @out, $last, 0, "/// \@}" if $out[$last] =~ /^\s*#endif/;
push @out, "/// \@}" if $out[$last] !~ /^\s*#endif/ && $out[$last] ne "/// \@}";
print map { "$_\n" } @out;
