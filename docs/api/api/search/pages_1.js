var searchData=
[
  ['korvex3d_0',['Korvex3D',['../index.html',1,'']]]
];
